// Cell numbers of the control descriptors of the main form.
#pragma once

namespace ProxyParameterId {
enum ControlDescriptorCell : int {
};
}
