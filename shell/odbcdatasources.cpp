#include "shell/odbcdatasources.h"
