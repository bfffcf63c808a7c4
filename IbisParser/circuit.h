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
