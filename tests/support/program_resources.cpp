// Tests of the application run against the program's own resources, as the
// program does; a test that needs other ones installs them over these.
#include "res/chronolist_resources.h"
#include "support/scoped_resources.h"

namespace {

const chronolist::test::ScopedResources kInstalled(chronolist::Resources());

}  // namespace
