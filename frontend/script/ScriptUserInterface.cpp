#include "frontend/script/ScriptUserInterface.h"
