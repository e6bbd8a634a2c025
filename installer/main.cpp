// Plantdrv64: copies diag50xp.sys into the system's driver directory. It takes no arguments and
// always exits with 0; whoever starts it checks the outcome by starting the driver.
#include "install_driver_file.h"

int main() {
    kv::plantdrv::installDriverFile();
    return 0;
}
