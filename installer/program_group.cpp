#include "program_group.h"
