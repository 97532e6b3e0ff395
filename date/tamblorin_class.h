// The identity of the Tamblorin library and its one class, written once: the type library source
// (Tamblorin.idl), the plug-in, lcdhost, the tests and CMake all read it. Plain preprocessor
// definitions, so that widl and the C++ compilers read the same file.
#ifndef TAMBLORIN_CLASS_H
#define TAMBLORIN_CLASS_H
#define TAMBLORIN_LIBID "99DC8F06-999F-4C3A-A236-F71E1A35632C"
#define TAMBLORIN_CLASS_IID "51CCF0E3-B3BC-479B-B956-EC0939123DBB"
#define TAMBLORIN_CLSID "D1B72E36-AEEE-4ABA-BA78-C4A1758BBAB9"
#define TAMBLORIN_PROGID "Tamblorin.CustomDate"
#endif

// The class interface's own methods in type-library order, for an includer that defines
// TESS_METHOD1: member id, result type, name, then the parameter's IDL type and name.
#if defined(TESS_METHOD1)
TESS_METHOD1(0x6003000A, VARIANT_BOOL, Check128, BSTR, sOutput)
TESS_METHOD1(0x6003000B, BSTR, GetDayShort, short, nDay)
TESS_METHOD1(0x6003000C, BSTR, GetDayLong, short, nDay)
TESS_METHOD1(0x6003000D, BSTR, GetMonthShort, short, nMonth)
TESS_METHOD1(0x6003000E, BSTR, GetMonthLong, short, nMonth)
TESS_METHOD1(0x6003000F, BSTR, GetDaySuffix, short, nDayOfMonth)
#endif
