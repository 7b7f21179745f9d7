/* The tablet interface's declarations for Qt's windows platform plugin, whose own copy Debian's
 * source leaves out: Wine's LGPL header, with the few Wine-only macros it uses spelled out for a
 * plain Windows build (the wide-character names, as the plugin is built with UNICODE). */
#ifndef KAVO_WINTAB_SHIM_H
#define KAVO_WINTAB_SHIM_H
#include <windows.h>
#ifndef WINELIB_NAME_AW
#define WINELIB_NAME_AW(name) name##W
#endif
#ifndef DECL_WINELIB_TYPE_AW
#define DECL_WINELIB_TYPE_AW(type) typedef type##W type;
#endif
#ifndef API
#define API WINAPI
#endif
#include "/usr/include/wine/wine/windows/wintab.h"
#endif
