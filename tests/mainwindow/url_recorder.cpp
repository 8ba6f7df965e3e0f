// Stands in for the web browser in the end-to-end tests: writes the address it
// was given into the file named by its first argument.
#include <stdio.h>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    FILE *f = fopen(argv[1], "wb");
    if (!f)
        return 1;
    fputs(argv[2], f);
    fclose(f);
    return 0;
}
