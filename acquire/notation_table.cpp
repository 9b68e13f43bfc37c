#include "acquire/acquire.h"
