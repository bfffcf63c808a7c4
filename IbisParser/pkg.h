// [Package] of a component: the lumped package parasitics of every pin.
#pragma once

struct RNG;

struct PKG {
    RNG *R_pkg;  // null: not given
    RNG *L_pkg;
    RNG *C_pkg;
};

int PKG_Create(PKG **out);
// One sub-parameter line: R_pkg, L_pkg or C_pkg and typ, min, max.
void PKG_ParseRow(PKG *package, const char *text);
// Reports each sub-parameter the component's package lacks.
void PKG_Check(const PKG *package, const char *component);
void PKG_Free(PKG *package);
