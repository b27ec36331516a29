#include "framework/gtk/gtk_dialog_font.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include "framework/dialog_font.h"
#include "framework/gtk/gobject_ptr.h"

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
  const ToolkitPtr<FcPattern, FcPatternDestroy> pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  const ToolkitPtr<FcObjectSet, FcObjectSetDestroy> objects(FcObjectSetBuild(FC_FAMILY, nullptr));
  const ToolkitPtr<FcFontSet, FcFontSetDestroy> fonts(
      FcFontList(config, pattern.get(), objects.get()));
  return fonts != nullptr && fonts->nfont > 0;
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
  const ToolkitPtr<PangoFontDescription, pango_font_description_free> font(
      pango_font_description_new());
  pango_font_description_set_family(font.get(), family.c_str());
  pango_font_description_set_size(font.get(), pointSize * PANGO_SCALE);

  const GObjectPtr<PangoLayout> layout(pango_layout_new(context));
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_text(layout.get(), kBaseUnitSample, -1);
  int width = 0;
  pango_layout_get_pixel_size(layout.get(), &width, nullptr);

  // The font's own height (ascent + descent), as Windows' tmHeight, not the
  // line height a layout would add up to.
  const ToolkitPtr<PangoFontMetrics, pango_font_metrics_unref> metrics(
      pango_context_get_metrics(context, font.get(), nullptr));
  const int height = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics.get()) +
                                  pango_font_metrics_get_descent(metrics.get()));
  return BaseUnitsFromFont(width, height);
}

}  // namespace fw::gtk
