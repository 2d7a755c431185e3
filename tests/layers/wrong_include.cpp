// Built only by the layering test, which expects it to fail: the item model may not use the
// designer, so the designer's headers are not on its include path.
#include "model/LabelItem.h"
#include "designer/Designer.h"
