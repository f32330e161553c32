#!/usr/bin/env python3
# Recovers the codewords of spectrum codebook 10 by probing a reference
# decoder (ffmpeg, run as a program) with single-band test frames: each
# probe puts a candidate bit pattern in band 0 followed by a known codeword,
# and the decoded coefficients tell the symbol and the codeword length.
# Writes cb10.json. Used once to check the table in aac_huffman_tables.cpp.
from codebook_probe_lib import *
K='01000'+'0'
found={}
P='0'
def trial(args):
    P,t=args
    X=(P+'0'*40)[:t]
    q=analyse(run([adts(sce(10,X+K))],'e%s_%d'%(P,t)))
    return t,X,q
pool=ThreadPoolExecutor(6)
while True:
    res=list(pool.map(trial,[(P,t) for t in range(1,17)]))
    ok=None
    for t,X,q in res:
        if q and q[2:]==[0,1] and abs(q[0])<=12 and abs(q[1])<=12:
            s=(q[0]!=0)+(q[1]!=0)
            L=t-s
            if L>=1:
                ok=(X[:L],abs(q[0]),abs(q[1])); break
    if not ok:
        print('FAIL at',P, [(t,q) for t,X,q in res]); break
    code,y,z=ok
    found[(y,z)]=code
    print(code,y,z,flush=True)
    # next lexicographic start
    v=int(code,2)+1
    if v>=2**len(code): break
    P=format(v,'0%db'%len(code))
import json
json.dump({'%d,%d'%k:v for k,v in found.items()},open('cb10.json','w'))
print('total',len(found))
