#include "core/text.h"

#include <string.h>

int BufSet(char *dst, int cchDst, const char *src)
{
    if (cchDst <= 0)
        return 0;
    int i = 0;
    while (i < cchDst - 1 && src[i]) {
        dst[i] = src[i];
        i++;
    }
    dst[i] = 0;
    return src[i] == 0;
}

int BufAppend(char *dst, int cchDst, const char *src)
{
    if (cchDst <= 0)
        return 0;
    int used = 0;
    while (used < cchDst && dst[used])
        used++;
    if (used == cchDst) { // not terminated inside the buffer: terminate at its end
        dst[cchDst - 1] = 0;
        return src[0] == 0;
    }
    return BufSet(dst + used, cchDst - used, src);
}

int TextContains(const char *text, const char *part)
{
    return strstr(text, part) != 0;
}

char *LowerAscii(char *s)
{
    for (char *p = s; *p; p++)
        if (*p >= 'A' && *p <= 'Z')
            *p = (char)(*p + ('a' - 'A'));
    return s;
}
