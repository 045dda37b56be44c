#pragma once

class TFunctionList;

// Registers the 79 standard operators, constants and functions in their
// fixed order, so that an entry's ID is its place in that order.
void RegisterStandardFunctions(TFunctionList& List);
