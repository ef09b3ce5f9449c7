#pragma once
// One input for the XML document: loaded as file bytes and as text, walked,
// edited, and the edited index compared with a fresh parse of the edited
// text. False when an invariant broke; no input may crash or hang.
#include <cstddef>
#include <cstdint>

bool CheckXmlDocumentInput(const uint8_t* data, size_t size);
