# Twin of scripts/sorting.txt.
a = [0.0] * 401
x = 7
for i in range(1, 401):
    x = (x * 75 + 74) % 65537
    a[i] = x
for i in range(1, 400):
    for j in range(1, 401 - i):
        if a[j] > a[j + 1]:
            t = a[j]
            a[j] = a[j + 1]
            a[j + 1] = t
