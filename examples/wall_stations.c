/* Seven stations up the example wall through the C interface: the wind's shear and bending moment and
 * the gravity's normal force, from the table of every load case. */
#include <stdio.h>
#include <stdlib.h>

#include <xsect/xsect_c.h>

int main(void) {
    xsect_model* model = NULL;
    if (xsect_model_load("examples/cantilever_wall.json", &model) != 0) {
        fprintf(stderr, "%s\n", xsect_last_error());
        return 1;
    }
    enum { COUNT = 7, WIND = 0, GRAVITY = 1 };  /* cases 1 and 2, in ascending id */
    const double base[3] = {2, 0, 0}, top[3] = {2, 0, 6};
    const size_t cases = (size_t)xsect_case_count(model);
    double positions[COUNT];
    double* values = malloc(sizeof(double) * COUNT * cases * 12); /* [station][case][max, min][6] */
    int status = values ? xsect_stations(model, base, top, COUNT, positions, values) : XSECT_E_MEMORY;
    for (size_t s = 0; status == 0 && s < COUNT; ++s) {
        const double* wind = values + (s * cases + WIND) * 12;
        const double* gravity = values + (s * cases + GRAVITY) * 12;
        printf("z = %.1f m: wind Vt = %6.1f kN, Mk = %6.1f kNm; gravity N = %7.1f kN\n", positions[s], wind[1],
               wind[5], gravity[0]);
    }
    if (status != 0) fprintf(stderr, "%s\n", xsect_last_error());
    free(values);
    xsect_model_free(model);
    return status == 0 ? 0 : 1;
}
