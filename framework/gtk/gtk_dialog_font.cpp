#include "framework/gtk/gtk_dialog_font.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include "framework/dialog_font.h"

namespace fw::gtk {

namespace {

// The configuration the toolkit's own font map loaded. Fontconfig's default
// one (a null config) would read every configuration file and font cache a
// second time, which costs start-up as much as the rest of the dialog.
FcConfig* ToolkitFontconfig() {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  return PANGO_IS_FC_FONT_MAP(map) ? pango_fc_font_map_get_config(PANGO_FC_FONT_MAP(map)) : nullptr;
}

// Fontconfig knows every name of a family, in every language; Pango lists
// one, in the locale's language ("IPA Pゴシック" under ja_JP).
bool FontconfigHasFamily(FcConfig* config, const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(config, pattern, objects);
  const bool found = fonts != nullptr && fonts->nfont > 0;
  if (fonts != nullptr) {
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

}  // namespace

std::string ResolveDialogFontFamily(const std::string& templateFace) {
  FcConfig* config = ToolkitFontconfig();
  for (const std::string& candidate : DialogFontCandidates(templateFace)) {
    if (FontconfigHasFamily(config, candidate)) {
      return candidate;
    }
  }
  return "Sans";
}

DialogBaseUnits MeasureBaseUnits(PangoContext* context, const std::string& family, int pointSize) {
  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, family.c_str());
  pango_font_description_set_size(font, pointSize * PANGO_SCALE);

  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, kBaseUnitSample, -1);
  int width = 0;
  pango_layout_get_pixel_size(layout, &width, nullptr);
  g_object_unref(layout);

  // The font's own height (ascent + descent), as Windows' tmHeight, not the
  // line height a layout would add up to.
  PangoFontMetrics* metrics = pango_context_get_metrics(context, font, nullptr);
  const int height = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics) +
                                  pango_font_metrics_get_descent(metrics));
  pango_font_metrics_unref(metrics);
  pango_font_description_free(font);
  return BaseUnitsFromFont(width, height);
}

}  // namespace fw::gtk
