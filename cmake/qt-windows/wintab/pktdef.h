/* The tablet packet definitions, as Wine's LGPL header has them (see wintab.h here). */
#include "/usr/include/wine/wine/windows/pktdef.h"
