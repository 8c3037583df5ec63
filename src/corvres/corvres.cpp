// The distributor's link library: two addresses as static UTF-8 texts.
#include "corvres.h"

const char* CorvaneHpURL(void)
{
    return "https://www.corvane.example/";
}

const char* CorvaneMailAddress(void)
{
    return "mailto:webmaster@corvane.example";
}
