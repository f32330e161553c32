#include "../engine/os_contract_test.cpp"
