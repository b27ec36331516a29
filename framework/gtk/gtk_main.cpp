// The process entry point of a program built on the GTK backend.
#include "framework/gtk/gtk_backend.h"

int main(int argc, char** argv) {
  return fw::gtk::RunApplication(argc, argv);
}
