// The identity of the Wendrikai library and its one class, written once: the type library source
// (Wendrikai.idl), the plug-in, lcdhost, the tests and CMake all read it. Plain preprocessor
// definitions, so that widl and the C++ compilers read the same file. The class interface has
// no methods of its own.
#ifndef WENDRIKAI_CLASS_H
#define WENDRIKAI_CLASS_H
#define WENDRIKAI_LIBID "785BDBA4-7018-40AE-A717-83CCEB720A12"
#define WENDRIKAI_CLASS_IID "7811F71E-2943-4B5B-A815-7109F01E657B"
#define WENDRIKAI_CLSID "F3AAA3D1-D330-4392-B24A-91DB45BD2E3D"
#define WENDRIKAI_PROGID "Wendrikai.Uptime"
#endif
