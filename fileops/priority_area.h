#pragma once

// The package's two scenery areas; each has a Cache and a Scenery folder.
enum class PriorityArea { Higher, Lower };
