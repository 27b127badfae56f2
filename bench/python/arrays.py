# Twin of scripts/arrays.txt.
a = [0.0] * 1001
for i in range(1, 300001):
    k = i % 1000 + 1
    a[k] = a[k] + i
