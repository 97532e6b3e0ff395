// The identity of the Orvantel library and its one class, written once: the type library source
// (Orvantel.idl), the plug-in, lcdhost, the tests and CMake all read it. Plain preprocessor
// definitions, so that widl and the C++ compilers read the same file.
#ifndef ORVANTEL_CLASS_H
#define ORVANTEL_CLASS_H
#define ORVANTEL_LIBID "445BC8F8-8C0E-40A3-9F22-013423DAF4F3"
#define ORVANTEL_CLASS_IID "CBD1D346-2706-49FD-930D-4316A2811242"
#define ORVANTEL_CLSID "9207752D-1E78-44F6-B225-AB2EA6283781"
#define ORVANTEL_PROGID "Orvantel.CPUInfo"
#endif

// The class interface's own methods in type-library order, for an includer that defines
// TESS_METHOD1 and TESS_METHOD3: member id, result type, name, then each parameter's IDL type
// and name.
#if defined(TESS_METHOD1)
TESS_METHOD1(0x6003000D, VARIANT_BOOL, Check128, BSTR, sOutput)
TESS_METHOD1(0x6003000E, BSTR, fnDualLine, BSTR, sSourceText)
TESS_METHOD3(0x6003000F, BSTR, fnFeatureSupport, long, lCheckFeature, VARIANT, sRtnTrue, VARIANT,
             sRtnFalse)
TESS_METHOD1(0x60030010, BSTR, fnWin32Processor, short, nGetData)
#endif
