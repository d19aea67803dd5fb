/* The C interface from C: a model built from arrays gives the host interface's values, and every
 * refusal comes back as its status with a sentence. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <xsect/xsect_c.h>

static int failures = 0;

static void expect_status(int got, int want, const char* what) {
    if (got == want && (got == 0 || xsect_last_error()[0] != '\0')) return;
    fprintf(stderr, "%s: status %d (%s), expected %d (%s): %s\n", what, got, xsect_status_name(got), want,
            xsect_status_name(want), xsect_last_error());
    ++failures;
}

static void expect_near(double got, double want, const char* what) {
    /* The values are sums of a few exact nodal forces: only rounding separates them. */
    if (fabs(got - want) <= 1e-12 * (1.0 + fabs(want))) return;
    fprintf(stderr, "%s: %.17g, expected %.17g\n", what, got, want);
    ++failures;
}

/* Two unit squares side by side in z = 0 (x from 0 to 2) and a frame along their bottom edge. Case 1
 * pulls along x: each shell's left nodes get -5, its right nodes +5; the frame -1 at end A, +1 at end
 * B. Case 2 has the same pattern in two modes, scaled by 3 and 4, combined by SRSS: 5 times case 1.
 * Case 3 is of a type the library does not compute: a model takes it, and the default requests skip it. */
enum { NODES = 6, SHELLS = 2, WIDTH = 5 };
static const int32_t node_ids[NODES] = {1, 2, 3, 4, 5, 6};
static double node_xyz[NODES][3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
static int32_t shell_ids[SHELLS] = {10, 20};
static int32_t shell_nodes[SHELLS][WIDTH] = {{1, 2, 5, 4, -1}, {2, 3, 6, 5, -1}};
static const int32_t frame_ids[1] = {7};
static const int32_t frame_nodes[1][2] = {{1, 3}};
static double shell_static[SHELLS][WIDTH][6];
static double shell_modal[SHELLS][WIDTH][2][6];
static const double frame_static[1][2][6] = {{{-1, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}}};
static xsect_load_case cases[3] = {
    {.id = 1, .name = "pull", .type = XSECT_CASE_STATIC},
    {.id = 2, .name = "quake", .type = XSECT_CASE_RESPONSE_SPECTRUM, .modes = 2, .combination = XSECT_COMBINE_SRSS},
    {.id = 3, .name = "pushover", .type = XSECT_CASE_UNSUPPORTED},
};

static xsect_model_arrays strip_arrays(void) {
    for (int s = 0; s < SHELLS; ++s)
        for (int j = 0; j < 4; ++j) {
            const double fx = (j == 1 || j == 2) ? 5.0 : -5.0; /* slots 1, 2 are the right nodes */
            shell_static[s][j][0] = fx;
            shell_modal[s][j][0][0] = 3 * fx;
            shell_modal[s][j][1][0] = 4 * fx;
        }
    static const double* shell_results[3];
    static const double* frame_results[3];
    shell_results[0] = &shell_static[0][0][0];
    shell_results[1] = &shell_modal[0][0][0][0];
    frame_results[0] = &frame_static[0][0][0];
    frame_results[1] = shell_results[2] = frame_results[2] = NULL;
    xsect_model_arrays a = {
        .node_count = NODES, .node_ids = node_ids, .node_xyz = &node_xyz[0][0],
        .shell_count = SHELLS, .shell_width = WIDTH, .shell_ids = shell_ids, .shell_nodes = &shell_nodes[0][0],
        .frame_count = 1, .frame_ids = frame_ids, .frame_nodes = &frame_nodes[0][0],
        .case_count = 3, .cases = cases, .shell_results = shell_results, .frame_results = frame_results,
        .tolerance = 0.001,
    };
    return a;
}

static void test_host_cut(const xsect_model* model) {
    const double start[3] = {0.5, -1, 0}, end[3] = {0.5, 2, 0};
    double f[6];
    expect_status(xsect_forces_on_section(model, 1, start, end, 0, true, NULL, f), 0, "static cut");
    expect_near(f[0], -11, "static Fx: the left nodes' -10 and the frame's -1");
    expect_status(xsect_forces_on_section(model, 2, start, end, 0, false, NULL, f), 0, "spectrum cut");
    expect_near(fabs(f[0]) + fabs(f[1]) + fabs(f[2]), 50, "SRSS of 3 and 4 times the shells' 10");

    const double off[3] = {0.5, 2, 1}, beside[3] = {5, -1, 0}, beside_end[3] = {5, 2, 0}, nan_point[3] = {NAN, 0, 0};
    expect_status(xsect_forces_on_section(model, 1, start, off, 0, false, NULL, f), -5, "cut off the plane");
    expect_status(xsect_forces_on_section(model, 1, beside, beside_end, 0, false, NULL, f), -1, "cut beside the model");
    expect_status(xsect_forces_on_section(model, 1, start, end, 0, false, off, f), -7, "moment point off the plane");
    expect_status(xsect_forces_on_section(model, 4, start, end, 0, false, NULL, f), XSECT_E_ARGUMENT, "unknown case");

    /* The default requests, across the strip at x = 0.5 (n = +X): the pull's 11 kN of tension and its
     * spectrum's range of 5 x the shells' 10 kN; no third request for the unsupported case. */
    const double cut[2][3] = {{0.5, -1, 0}, {0.5, 2, 0}};
    double values[3][2][6];
    values[2][0][0] = 42;
    xsect_sections out = {.values = &values[0][0][0]};
    expect_status(xsect_cut_sections(model, 1, &cut[0][0], 0, NULL, &out), 0, "default requests");
    expect_near(values[0][0][0], 11, "the pull's N");
    expect_near(values[1][0][0], 50, "the spectrum's N, max");
    expect_near(values[1][1][0], -50, "the spectrum's N, min");
    expect_near(values[2][0][0], 42, "no third request");
    expect_status(xsect_forces_on_section(model, 1, start, end, 2, false, NULL, f), XSECT_E_ARGUMENT, "side 2");
    expect_status(xsect_forces_on_section(model, 1, nan_point, end, 0, false, NULL, f), XSECT_E_ARGUMENT, "NaN end");
    expect_status(xsect_forces_on_section(NULL, 1, start, end, 0, false, NULL, f), XSECT_E_ARGUMENT, "null model");
    expect_status(xsect_forces_on_section(model, 1, start, end, 0, false, NULL, NULL), XSECT_E_ARGUMENT, "null out");
}

/* Each entry spoils one thing of the good arrays and names the status it must give. */
static void test_refused_models(void) {
    xsect_model* model = NULL;
    expect_status(xsect_model_from_arrays(NULL, &model), XSECT_E_ARGUMENT, "null arrays");
    xsect_model_arrays a = strip_arrays();
    expect_status(xsect_model_from_arrays(&a, NULL), XSECT_E_ARGUMENT, "null out");

    static const char* const faults[] = {"negative count", "null ids",       "NaN coordinate", "duplicate node",
                                         "unknown node",   "node after pad", "three slots too few",
                                         "NaN result",     "spectrum without modes", "CQC without coefficients",
                                         "zero tolerance", "off the plane",  "no shells"};
    for (int fault = 0; fault < (int)(sizeof faults / sizeof *faults); ++fault) {
        a = strip_arrays();
        int want = XSECT_E_ARGUMENT;
        xsect_load_case spoiled[3] = {cases[0], cases[1], cases[2]};
        a.cases = spoiled;
        switch (fault) {
            case 0: a.frame_count = -1; break;
            case 1: a.node_ids = NULL; break;
            case 2: node_xyz[3][1] = NAN; break;
            case 3: shell_ids[1] = 10; break;
            case 4: shell_nodes[1][1] = 99; break;
            case 5: shell_nodes[0][3] = -1, shell_nodes[0][4] = 4; break;
            case 6: shell_nodes[0][1] = -1, shell_nodes[0][2] = -1, shell_nodes[0][3] = -1; break;
            case 7: shell_modal[1][2][1][5] = INFINITY; break;
            case 8: spoiled[1].modes = 0; break;
            case 9: spoiled[1].combination = XSECT_COMBINE_CQC; break;
            case 10: a.tolerance = 0; break;
            /* Off the plane its named nodes fix; without them the model would be an assembly. */
            case 11: node_xyz[5][2] = 0.5, a.plane_nodes[0] = 1, a.plane_nodes[1] = 3, a.plane_nodes[2] = 4, want = -2; break;
            case 12: a.shell_count = 0, want = -3; break;
        }
        model = NULL;
        expect_status(xsect_model_from_arrays(&a, &model), want, faults[fault]);
        if (model != NULL) fprintf(stderr, "%s: a model came back\n", faults[fault]), ++failures;
        node_xyz[3][1] = 1, node_xyz[5][2] = 0, shell_ids[1] = 20, shell_modal[1][2][1][5] = 0;
        const int32_t rows[SHELLS][WIDTH] = {{1, 2, 5, 4, -1}, {2, 3, 6, 5, -1}};
        memcpy(shell_nodes, rows, sizeof rows);
    }
}

/* The wall (4 m wide in the X-Z plane, 6 m high) carries at its top: case 1, 120 kN along X; case 2,
 * -800 kN along Z; case 3, an SRSS of 180 kN along X (mode 1) and -70 kN at the top with 130 kN at
 * z = 3 (mode 2). Stations up its axis read the loads above them, with n = Z, t = X, k = Y. */
static void test_wall_sections(const xsect_model* wall, xsect_request combination) {
    enum { COUNT = 12, CASES = 4 };
    const double base[3] = {2, 0, 0.25}, top[3] = {2, 0, 5.75};
    double positions[COUNT], values[COUNT][CASES][2][6];
    expect_status(xsect_stations(wall, base, top, COUNT, positions, &values[0][0][0][0]), 0, "wall stations");
    for (int s = 0; s < COUNT; ++s) {
        const double z = 0.25 + positions[s], h = 6 - z;
        const double quake = sqrt(180.0 * 180.0 + (z < 3 ? 60.0 * 60.0 : 70.0 * 70.0));
        expect_near(values[s][0][0][1], 120, "wind Vt");
        expect_near(values[s][0][1][5], 120 * h, "wind Mk, min = max");
        expect_near(values[s][1][0][0], -800, "gravity N");
        expect_near(values[s][2][0][1], quake, "earthquake Vt, max");
        expect_near(values[s][2][1][1], -quake, "earthquake Vt, min");
    }

    /* The file's combination and a case of its own, across the wall and off its plane. */
    const int32_t wind = 1;
    const double one = 1;
    const xsect_request requests[2] = {combination, {"W", 1, &wind, &one}};
    const double cuts[2][2][3] = {{{-1, 0, 3}, {5, 0, 3}}, {{-1, 1, 3}, {5, 1, 3}}};
    double cut_values[2][2][2][6], centroid[2][3];
    int32_t status[2];
    xsect_sections out = {.values = &cut_values[0][0][0][0], .status = status, .centroid = &centroid[0][0]};
    expect_status(xsect_cut_sections(wall, 2, &cuts[0][0][0], 2, requests, &out), 0, "cuts with a combination");
    expect_near(cut_values[0][0][0][0], 1.35 * -800, "1.35 G + 1.5 W: N");
    expect_near(cut_values[0][0][1][1], 1.5 * 120, "1.35 G + 1.5 W: Vt");
    expect_near(cut_values[0][1][0][5], 120 * 3, "W: Mk");
    expect_near(centroid[0][0], 2, "centroid x");
    if (status[0] != 0 || status[1] != -5 || !isnan(cut_values[1][0][0][0]))
        fprintf(stderr, "the cut off the plane: status %d, N %g\n", status[1], cut_values[1][0][0][0]), ++failures;

    /* Refusals: nothing is written, the sentence says why. */
    const int32_t unknown = 9;
    const xsect_request bad[3] = {{"X", 1, &unknown, &one}, {NULL, 1, &wind, &one}, {"W", 1, &wind, NULL}};
    for (int i = 0; i < 3; ++i)
        expect_status(xsect_cut_sections(wall, 2, &cuts[0][0][0], 1, &bad[i], &out), XSECT_E_ARGUMENT, "bad request");
    expect_status(xsect_cut_sections(wall, -1, &cuts[0][0][0], 0, NULL, &out), XSECT_E_ARGUMENT, "negative count");
    expect_status(xsect_station_sections(wall, base, top, 0, 0, NULL, &out), XSECT_E_ARGUMENT, "no stations");
    expect_status(xsect_station_sections(wall, base, base, 3, 0, NULL, &out), XSECT_E_ARGUMENT, "no axis");
    expect_status(xsect_stations(wall, base, top, COUNT, positions, NULL), XSECT_E_ARGUMENT, "null values");
}

/* The example wall read from its files: the CSV manifest carries a combination. */
static void test_loaded_wall(const char* examples) {
    char path[4096];
    xsect_model* model = NULL;
    snprintf(path, sizeof path, "%s/cantilever_wall_csv/manifest.json", examples);
    expect_status(xsect_model_load(path, &model), 0, "load the wall");
    if (model == NULL) return;
    xsect_request combination;
    expect_status(xsect_combination(model, 0, &combination), 0, "first combination");
    if (xsect_combination_count(model) != 1 || combination.term_count != 2 ||
        strcmp(xsect_case_name(model, 2), "gravity") != 0)
        fprintf(stderr, "the wall's combination or case names are wrong\n"), ++failures;
    expect_status(xsect_combination(model, 1, &combination), XSECT_E_ARGUMENT, "no second combination");
    test_wall_sections(model, combination);
    xsect_model_free(model);

    model = NULL;
    snprintf(path, sizeof path, "%s/no_such_model.json", examples);
    expect_status(xsect_model_load(path, &model), XSECT_E_FILE, "missing file");
    if (strstr(xsect_last_error(), "no_such_model.json") == NULL)
        fprintf(stderr, "the sentence names no file\n"), ++failures;
    expect_status(xsect_model_load(NULL, &model), XSECT_E_ARGUMENT, "null path");
    if (model != NULL) fprintf(stderr, "a refused load gave a model\n"), ++failures;
}

/* The lift core (examples/lift_core.py), an assembly: across the plane z = 12 its G is -24000 kN, which
 * about a moment point 1 m along X turns about Y. Its statics are the library's; here the wiring. */
static void test_assembly(const char* examples, const xsect_model* plane_model) {
    char path[4096];
    xsect_model* model = NULL;
    snprintf(path, sizeof path, "%s/lift_core.json", examples);
    expect_status(xsect_model_load(path, &model), 0, "load the lift core");
    if (model == NULL) return;
    if (!xsect_is_assembly(model) || xsect_is_assembly(plane_model)) fprintf(stderr, "assembly or not\n"), ++failures;
    const double planes[2][2][3] = {{{0, 0, 12}, {0, 0, 1}}, {{0, 0, 40}, {0, 0, 1}}};
    double values[2][2][2][6];
    int32_t status[2];
    xsect_sections out = {.values = &values[0][0][0][0], .status = status};
    expect_status(xsect_plane_sections(model, 2, &planes[0][0][0], 0, NULL, NULL, &out), 0, "two planes");
    expect_near(values[0][0][0][0] / 24000, -1, "G's N");
    if (status[0] != 0 || status[1] != -1 || !isnan(values[1][0][0][0])) fprintf(stderr, "statuses\n"), ++failures;
    const double about[3] = {1, 0, 12};
    const xsect_plane_options options = {.moment_point = about};
    expect_status(xsect_plane_sections(model, 1, &planes[0][0][0], 0, NULL, &options, &out), 0, "moment point");
    expect_near(values[0][0][0][5] / 24000, -1, "G's Mk about the point");
    const double cut[2][3] = {{-4, 0, 3}, {4, 0, 3}};
    expect_status(xsect_cut_sections(model, 1, &cut[0][0], 0, NULL, &out), XSECT_E_ARGUMENT, "a cut of an assembly");
    expect_status(xsect_plane_sections(plane_model, 1, &planes[0][0][0], 0, NULL, NULL, &out), XSECT_E_ARGUMENT,
                  "a plane through a plane model");
    xsect_model_free(model);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: xsect_c_test EXAMPLES_DIR\n");
        return 2;
    }
    test_loaded_wall(argv[1]);
    xsect_model_arrays a = strip_arrays();
    xsect_model* model = NULL;
    expect_status(xsect_model_from_arrays(&a, &model), 0, "strip from arrays");
    if (model == NULL) return 1;
    int32_t ids[3] = {0, 0, 0};
    expect_status(xsect_case_ids(model, ids), 0, "case ids");
    if (xsect_case_count(model) != 3 || ids[0] != 1 || ids[1] != 2 || ids[2] != 3 || xsect_case_count(NULL) != 0)
        fprintf(stderr, "case count or ids wrong\n"), ++failures;
    test_host_cut(model);
    test_assembly(argv[1], model);
    xsect_model_free(model);
    xsect_model_free(NULL);
    test_refused_models();
    if (strcmp(xsect_status_name(-1), "CS_NO_ELEMENTS_CROSSED") != 0 ||
        strcmp(xsect_status_name(XSECT_E_FILE), "XSECT_E_FILE") != 0)
        fprintf(stderr, "status names wrong\n"), ++failures;
    printf("%s\n", failures == 0 ? "all checks passed" : "checks failed");
    return failures == 0 ? 0 : 1;
}
