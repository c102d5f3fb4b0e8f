// The advanced-user password check of the password window, kept apart so it can be tested without the window.
#pragma once

class QString;

// Compares the typed text, lower-cased in the local 8-bit encoding, with the
// stored password byte by byte: 0 when equal, -1 when the stored password sorts
// first at the first difference, 1 otherwise. Any length is accepted.
int CompareAdvancedUserPassword(const QString& p_sTyped);
