#pragma once

namespace Module1 {
void Main();
}
