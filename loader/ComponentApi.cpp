#include "loader/ComponentApi.h"

#include "modgate/modgate.h"

namespace {

const ComponentApi kModgate = {ComMgrInit, ComRegSvr, ComCreateInst, ComUnregSvr, ComMgrUninit};
const ComponentApi* current = &kModgate;

}  // namespace

const ComponentApi& Components() { return *current; }

void SetComponentApiForTests(const ComponentApi* api) { current = api ? api : &kModgate; }
