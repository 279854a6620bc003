/* A device library that lacks "WrtieConfig": the program must refuse it instead of calling a null pointer. */
#include "device/tarno_api.h"

#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

EXPORT const tarno_char16 *OpenDevice(int vendorId, int productId) { (void)vendorId; (void)productId; return 0; }
EXPORT int CloseDevice(void) { return 0; }
EXPORT int ReadControl(int length, unsigned char *buffer) { (void)length; (void)buffer; return 0; }
EXPORT int WrtieControl(int length, const unsigned char *data) { (void)length; (void)data; return 0; }
EXPORT int ReadData(int length, unsigned char *buffer) { (void)length; (void)buffer; return 0; }
EXPORT int OpenConfigDevice(int vendorId, int productId) { (void)vendorId; (void)productId; return 0; }
EXPORT int CloseConfigDevice(void) { return 0; }
EXPORT int ReadConfig(int length, unsigned char *buffer) { (void)length; (void)buffer; return 0; }
EXPORT int ReadConfigData(int length, unsigned char *buffer) { (void)length; (void)buffer; return 0; }
