#pragma once
// Enumerations (stand-in).

// The entry names of an enumeration in index order, ended by a null entry.
typedef const char** AtEnum;
