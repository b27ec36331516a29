#include "framework/gtk/gtk_dialog_style.h"

#include <string_view>

namespace fw::gtk {

namespace {

// @D stands for the dialog's window selector, @F for its font.
constexpr std::string_view kStyleSheet = R"css(
@D .fw-client, @D .fw-client *, @D .fw-caption * { @F }
@D .fw-frame { border: 1px solid @borders; }
@D .fw-caption { background-color: shade(@theme_bg_color, 0.9); border-bottom: 1px solid @borders; }
@D .fw-caption-row { padding: 0.25em 0.2em 0.25em 0.3em; }
@D .fw-caption button { min-height: 0; min-width: 0; padding: 1px; margin: 0; }
@D .fw-client button { min-height: 0; min-width: 0; padding: 0 2px; }
@D .fw-client button.fw-default { border-color: #1c71d8; box-shadow: inset 0 0 0 1px #1c71d8; }
@D .fw-client label { padding: 0; margin: 0; }
@D .fw-client { background-color: @theme_bg_color; }
)css";
// The caption row's padding is in em, so that the text keeps clear of the
// bar's edges at any font scale (the event box round the row ignores
// padding). The client area has a window of its own, so it paints the
// dialog's background itself.

std::string FontDeclarations(const std::string& family, const DialogFont& font) {
  std::string css =
      "font-family: \"" + family + "\"; font-size: " + std::to_string(font.pointSize) + "pt;";
  if (font.weight >= 600) {
    css += " font-weight: bold;";
  }
  if (font.italic) {
    css += " font-style: italic;";
  }
  return css;
}

std::string Expand(std::string_view sheet, const std::string& scope, const std::string& font) {
  std::string css;
  for (std::size_t i = 0; i < sheet.size(); ++i) {
    if (sheet.substr(i, 2) == "@D") {
      css += scope;
      ++i;
    } else if (sheet.substr(i, 2) == "@F") {
      css += font;
      ++i;
    } else {
      css += sheet[i];
    }
  }
  return css;
}

}  // namespace

GObjectPtr<GtkCssProvider> ApplyDialogStyle(GtkWidget* window, const DialogTemplate& dialogTemplate,
                                            const std::string& fontFamily) {
  // Scoped to this dialog's window so that other windows keep the theme.
  const std::string windowClass = "fw-dialog-" + std::to_string(dialogTemplate.id);
  gtk_style_context_add_class(gtk_widget_get_style_context(window), windowClass.c_str());
  const std::string css = Expand(kStyleSheet, "window." + windowClass,
                                 FontDeclarations(fontFamily, dialogTemplate.font));
  GObjectPtr<GtkCssProvider> provider(gtk_css_provider_new());
  gtk_css_provider_load_from_data(provider.get(), css.c_str(), -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                            GTK_STYLE_PROVIDER(provider.get()),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  return provider;
}

void RemoveDialogStyle(GObjectPtr<GtkCssProvider>& provider) {
  if (provider) {
    gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(),
                                                 GTK_STYLE_PROVIDER(provider.get()));
    provider.reset();
  }
}

}  // namespace fw::gtk
