#include "platform_facts.h"

bool RunningUnderWine() {
    return false;
}
