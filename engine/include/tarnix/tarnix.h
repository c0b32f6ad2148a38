#pragma once

// Everything a host of the Tarnix engine needs.
#include "tarnix/bounded_array.h"
#include "tarnix/engine.h"
#include "tarnix/enums.h"
#include "tarnix/events.h"
#include "tarnix/gene_array.h"
#include "tarnix/help_text.h"
#include "tarnix/host.h"
#include "tarnix/property_store.h"
#include "tarnix/read_only_property_error.h"
