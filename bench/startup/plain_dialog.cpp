// The fair anchor for Chronolist's start-up: a plain GTK 3 dialog with the
// same three Japanese lines in the same 9 pt font and the same two buttons,
// built the ordinary way (GtkDialog, a box of labels, a stylesheet for the
// font). What Chronolist takes beyond this is what its own dialog costs.
#include <gtk/gtk.h>

#include <initializer_list>

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, "* { font: 9pt \"IPAPGothic\"; }", -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);

  GtkWidget* dialog =
      gtk_dialog_new_with_buttons("ChronolistEx", nullptr, GTK_DIALOG_MODAL, "ｷｬﾝｾﾙ",
                                  GTK_RESPONSE_CANCEL, "OK", GTK_RESPONSE_OK, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  for (const char* line :
       {"エクストラモード（ルーム１１１～１５１迄）の", "リプレデータ・タイムリストをHTML形式で、",
        "出力します。(replistEx.html)"}) {
    GtkWidget* label = gtk_label_new(line);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_box_pack_start(GTK_BOX(content), label, FALSE, FALSE, 0);
  }
  gtk_widget_show_all(dialog);
  gtk_dialog_run(GTK_DIALOG(dialog));
  return 0;
}
