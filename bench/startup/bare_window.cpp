// The floor for startup measurements: the least a GTK 3 program does to put a
// titled window with one label on the screen. Anything Chronolist takes beyond
// this is its own.
#include <gtk/gtk.h>

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Bare window");
  gtk_container_add(GTK_CONTAINER(window), gtk_label_new("Hello"));
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
