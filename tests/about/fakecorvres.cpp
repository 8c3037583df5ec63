// A stand-in for the distributor's link library whose texts the test chooses through environment
// variables: FAKE_CORVANE_HP and FAKE_CORVANE_MAIL, "(null)" for a null pointer. Built once more
// without the mail function.
#include "corvres/corvres.h"

#include <cstdlib>
#include <cstring>

namespace {

const char* textFrom(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (!value)
        return fallback;
    return std::strcmp(value, "(null)") == 0 ? nullptr : value;
}

} // namespace

const char* CorvaneHpURL(void)
{
    return textFrom("FAKE_CORVANE_HP", "https://fake.example/hp");
}

#ifndef FAKE_CORVRES_WITHOUT_MAIL
const char* CorvaneMailAddress(void)
{
    return textFrom("FAKE_CORVANE_MAIL", "mailto:tester@fake.example");
}
#endif
