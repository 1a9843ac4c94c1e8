#include "converter/driver/run.h"

int main(int argc, char** argv) {
  return zarvex::runZarvex(argc, argv);
}
