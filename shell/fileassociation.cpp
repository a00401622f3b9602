#include "shell/fileassociation.h"
