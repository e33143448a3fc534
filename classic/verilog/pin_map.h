#pragma once
// Pin letters of gate instances. Recognition letters a gate's inputs in the
// order its reduction met them, and several recognised forms share a type
// name with a module whose pins are lettered otherwise; an instance must
// connect each net to the module pin that plays its letter's role, or the
// simulated function would differ from the extracted one.
#include <optional>
#include <string>

#include "core/gates/expression.h"

// The pins for a form's letters: character k of the result is the module pin
// for the form's letter 'a' + k, chosen so that the module computes the
// form's function; of several such choices the alphabetically smallest. Empty
// when the two expressions use different numbers of letters or no choice
// works.
std::string smallest_pin_mapping(const char* form, const char* module_expr);

// The pin mapping an instance of type `type_name` whose recognised expression
// is `expression` needs, or null when its letters are written unchanged
// (identity mappings, INV, generated model names, unknown forms).
const char* pin_mapping_for(const char* type_name, const char* expression);

// The pin letter to write for recognition letter `letter` under `mapping`
// (null means unchanged).
char map_pin_letter(const char* mapping, char letter);
