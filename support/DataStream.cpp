#include "support/DataStream.h"
