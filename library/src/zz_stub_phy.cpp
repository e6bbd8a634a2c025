// Stand-ins until the PHY work lands.
#include "kelvalib.h"

KV_API int API_WritePHY(uint16_t, uint16_t, uint16_t) { return 1; }
KV_API uint16_t ReadPhyUshort(uint16_t) { return 0; }
KV_API int WritePhyUshort(uint16_t, uint16_t) { return 1; }
KV_API int API_PHYDiagStart(void) { return 1; }
KV_API int API_PHYDiagEnd(void) { return 1; }
KV_API int API_NWAYReStart(void) { return 1; }
