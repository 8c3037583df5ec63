#pragma once

/*
 * The distributor's link library, libcorvres.so: the two addresses that the version dialog shows
 * and opens. The editor never links against it; the dialog loads it by path each time it needs
 * the texts and unloads it again, so the distributor can replace the library without a rebuild.
 *
 * Both functions take no arguments and return a NUL-terminated UTF-8 text (UTF-8 is the system
 * code page of the desktops the editor runs on). The text is static storage owned by the library:
 * the caller must not free or change it, and must copy it before it unloads the library. A null
 * pointer means the library has no text to give.
 */

#if defined(CORVRES_BUILDING)
#define CORVRES_EXPORT __attribute__((visibility("default")))
#else
#define CORVRES_EXPORT
#endif

extern "C" {

/** The distributor's home-page address, e.g. "https://www.corvane.example/". */
CORVRES_EXPORT const char* CorvaneHpURL(void);

/**
 * A "mailto:" address of the distributor's site administrator. Its first seven characters are the
 * "mailto:" scheme, which the dialog does not show.
 */
CORVRES_EXPORT const char* CorvaneMailAddress(void);
}

/** The type of both functions, for callers that look them up at run time. */
using CorvresTextFunction = const char* (*)();
