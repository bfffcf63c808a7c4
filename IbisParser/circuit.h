// [Circuit Call] of a component: the call record that the component section
// creates and frees, and whose lines the circuit section reads.
#pragma once

// One Port_map entry.
struct CIRCUIT_PORT {
    char port[41];
    char node[41];  // the pin or node the port connects to
    CIRCUIT_PORT *next;
};

struct CIRCUIT_CALL {
    CIRCUIT_CALL *next;
    unsigned long line;  // line of the [Circuit Call] keyword
    char name[41];       // the [External Circuit] called
    char pin1[6];        // reference pins; empty: not given
    char pin2[6];
    CIRCUIT_PORT *ports;  // newest first
};

struct CMPNT;
struct EXTCKT;

// One data line of [Circuit Call] into the call; 0 after an unknown
// sub-parameter (1804) or an incomplete Port_map (1807), else 1.
int CIRCUIT_ParseCallLine(const char *line, CIRCUIT_CALL *call);
// Resolves every call of the component against the file's external
// circuits and reports the connections of its nodes.
void CIRCUIT_ResolveCalls(CMPNT *component, EXTCKT *circuits);
