#pragma once

#include <QString>

// Hardware address of the first network interface, in the system's own order,
// that is up, is not a loopback and carries an IPv4 address: six upper-case
// two-digit hex groups separated by ":". Empty when there is no such interface
// or it has no six-byte hardware address.
QString FirstAdapterMacAddress();
