#include "audio_conversion.h"
