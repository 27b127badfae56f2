# Twin of scripts/arith_loop.txt.
a = 0
b = 1
for i in range(1, 1000001):
    a = a + b * 2 - i % 7
