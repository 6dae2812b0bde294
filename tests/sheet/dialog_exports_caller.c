/* A C caller of the two dialog exports, run without a display and without any Qt application:
 * each call must come back at once with its failure code instead of showing anything. */
#include "tnwsheet.h"

#include <stdio.h>

static int failures = 0;

static void expect(int actual, int expected, const char* what)
{
    if (actual != expected) {
        fprintf(stderr, "%s: %d, expected %d\n", what, actual, expected);
        ++failures;
    }
}

int main(void)
{
    int result = 7;
    expect(shxDlgForm(NULL, NULL, 0), -1, "shxDlgForm(NULL, NULL, 0)");
    expect(shxDlgForm(NULL, "/nonexistent/tnwForm.ini", 1), -1, "shxDlgForm with flags 1");
    expect(shxDlgTagDump(NULL, "/nonexistent/x.tif", &result), -1, "shxDlgTagDump");
    expect(result, -1, "shxDlgTagDump's result");
    expect(shxDlgTagDump(NULL, NULL, NULL), -1, "shxDlgTagDump(NULL, NULL, NULL)");
    return failures == 0 ? 0 : 1;
}
