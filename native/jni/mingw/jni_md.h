/* Machine-dependent JNI types for mingw-w64, standing in for the JDK's Windows jni_md.h.
   JNIEXPORT may be predefined empty: the 32-bit libraries then take their exact decorated
   export names from a .def file instead of from dllexport. */
#ifndef NORVEX_JNI_MD_H
#define NORVEX_JNI_MD_H

#ifndef JNIEXPORT
#define JNIEXPORT __declspec(dllexport)
#endif
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef int jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
