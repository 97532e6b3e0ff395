// The identifiers of the host kit's type library and its two interfaces, written once: the kit's
// IDL and the C++ definitions of the interfaces read them.
#ifndef TESSIVAR2_KIT_H
#define TESSIVAR2_KIT_H
#define TESSIVAR2_KIT_LIBID "D418EE3E-1501-4F38-9879-12ADC1FCCE95"
#define TESSIVAR2_PLUGIN_IID "CFEC75A2-779E-4945-B33C-D3675E051E6D"
#define TESSIVAR2_DATA_PROVIDER_IID "8975C2D1-E0AF-444F-8E03-7105B1FB6A4F"
#endif
