#pragma once
// Lumora is a shared library built with hidden symbols; what it offers to
// programs is marked with LUMORA_API.
#define LUMORA_API __attribute__((visibility("default")))
