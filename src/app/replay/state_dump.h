#pragma once

#include <string>

// The drag state and every unit in World order, one line each, as other tools read it.
std::string formatWorldState();

const char* dragStateName();
