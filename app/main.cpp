// kvt97: the desktop application.
#include "application.h"

int main(int argc, char** argv) { return kvt::app::run_application(argc, argv); }
