// The ten entry points of the mouse's device library, as the program calls them.
// Plain C so that the maker's library and our own emulated one share one contract.
#ifndef TARNO_API_H
#define TARNO_API_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define TARNO_CALL __cdecl
#else
#define TARNO_CALL
#endif

typedef unsigned short tarno_char16;   // UTF-16 code unit, also on platforms where wchar_t is 32-bit

enum {
    TARNO_VENDOR_ID = 0x3044,
    TARNO_PRODUCT_ID = 0x9D09,
    TARNO_CONTROL_COMMAND_SIZE = 31,
    TARNO_CONTROL_REPLY_SIZE = 32,
    TARNO_CONFIG_COMMAND_SIZE = 63,
    TARNO_CONFIG_REPLY_SIZE = 64
};

// NUL-terminated UTF-16 path of the opened mouse, owned by the library; null when none is found.
typedef const tarno_char16 *(TARNO_CALL *OpenDeviceFn)(int vendorId, int productId);
typedef int (TARNO_CALL *CloseDeviceFn)(void);
typedef int (TARNO_CALL *ReadControlFn)(int length, unsigned char *buffer);      // exported, never called
typedef int (TARNO_CALL *WrtieControlFn)(int length, const unsigned char *data);
// Only the low byte of the result is meaningful: non-zero when a reply was read.
typedef int (TARNO_CALL *ReadDataFn)(int length, unsigned char *buffer);
typedef int (TARNO_CALL *OpenConfigDeviceFn)(int vendorId, int productId);
typedef int (TARNO_CALL *CloseConfigDeviceFn)(void);
typedef int (TARNO_CALL *ReadConfigFn)(int length, unsigned char *buffer);       // exported, never called
// 0 on success.
typedef int (TARNO_CALL *WrtieConfigFn)(int length, const unsigned char *data);
typedef int (TARNO_CALL *ReadConfigDataFn)(int length, unsigned char *buffer);

#ifdef __cplusplus
}
#endif

#endif
