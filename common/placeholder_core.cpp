namespace kelvarn { int CoreBuildMarker() { return 1; } }
