// One cmov, an instruction of the Pentium Pro, planted where the instruction
// audit must find it: the audit checks itself on this object before it checks
// Velmora.exe. Nothing links it.

extern "C" int PlantedCmov(int condition, int value, int other) {
    __asm__("test %1, %1\n\tcmovne %2, %0" : "+r"(value) : "r"(condition), "r"(other) : "cc");
    return value;
}
