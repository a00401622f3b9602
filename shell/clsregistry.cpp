#include "shell/clsregistry.h"
