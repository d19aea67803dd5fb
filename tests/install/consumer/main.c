/* Includes the installed C header as C99 and calls the installed C interface. */
#include <stdio.h>
#include <string.h>

#include <xsect/xsect_c.h>

int main(void) {
    xsect_model* model = NULL;
    if (xsect_model_load("no-such-model.json", &model) != XSECT_E_FILE || model != NULL ||
        strcmp(xsect_status_name(-1), "CS_NO_ELEMENTS_CROSSED") != 0) {
        puts("unexpected answer from the C interface");
        return 1;
    }
    puts("ok");
    return 0;
}
