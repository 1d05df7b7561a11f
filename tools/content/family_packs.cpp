// The pack sets themselves need no generated resource: the builder always writes set 0, even
// empty, so that the resource manager finds a set to start from. This family holds nothing yet;
// it is the place for resources that belong to no other family.
#include "tools/content/manifest.h"

namespace content {

void Add_Packs_Family(Manifest& manifest) { (void)manifest; }

}  // namespace content
