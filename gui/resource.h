#pragma once
// Resource identifiers of the windowed program.
#include "ps_dialogs_res.h"
#include "ps_mainres_res.h"
