// The flight store's former name: SqlFlightStore opens an SQLite file (and a server).
#pragma once

#include "library/sql_flight_store.h"

namespace zp::library {

using SqliteFlightStore = SqlFlightStore;

}  // namespace zp::library
