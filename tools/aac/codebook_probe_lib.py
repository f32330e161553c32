# Frame writer and analysis for codebook_probe.py.
import subprocess, struct, sys, os, math, tempfile
from concurrent.futures import ThreadPoolExecutor
sys.path.insert(0,'.')
import re
src=open(os.path.join(os.path.dirname(os.path.abspath(__file__)), '../../codecs/aac/aac_huffman_tables.cpp')).read()
def arr(name):
    m=re.search(name+r'\[\d+\] = \{(.*?)\};',src,re.S)
    return [int(x,0) for x in re.findall(r'0x[0-9a-fA-F]+|\d+',m.group(1))]
C11=arr('kAacCode11'); L11=arr('kAacLen11')
def cb11(y,z):
    i=17*abs(y)+abs(z)
    s=format(C11[i],'0%db'%L11[i])
    for v in (y,z):
        if v: s+= '1' if v<0 else '0'
    return s
def adts(payload_bits):
    # payload bits: raw data block bits (ending with END); byte align
    b=payload_bits
    b+= '0'*((-len(b))%8)
    n=len(b)//8+7
    h='111111111111'+'0'+'00'+'1'+'01'+'0011'+'0'+'001'+'0'+'0'+'0'+'0'+format(n,'013b')+'11111111111'+'00'
    bits=h+b
    return bytes(int(bits[i:i+8],2) for i in range(0,len(bits),8))
GG=160
def sce(cb, spec_bits, maxsfb=1):
    s='000'+'0000'+format(GG,'08b')
    s+='0'+'00'+'0'+format(maxsfb,'06b')+'0'
    if maxsfb:
        s+=format(cb,'04b')+format(1,'05b')
        s+='0'   # sf diff 0 (codeword for 60)
    s+='0'+'0'+'0'  # pulse, tns, gain
    s+=spec_bits
    s+='111'
    return s
silent=adts(sce(0,'',0))
def run(frames, tag):
    data=silent*2+b''.join(f+silent*2 for f in frames)+silent*2
    fn=os.path.join(tempfile.gettempdir(), 'probe_%d_%s.aac' % (os.getpid(), tag))
    open(fn,'wb').write(data)
    out=subprocess.run(['ffmpeg','-hide_banner','-loglevel','quiet','-f','aac','-i',fn,'-f','f64le','-'],capture_output=True).stdout
    os.remove(fn)
    return [x[0] for x in struct.iter_unpack('<d',out)]
# basis: unit vectors on lines 0..3
basis=[]
for k in range(4):
    v=[0,0,0,0]; v[k]=1
    pcm=run([adts(sce(11,cb11(v[0],v[1])+cb11(v[2],v[3])))],'b%d'%k)
    basis.append(pcm)
N=len(basis[0])
start=0
# region of the probe frame
idx=[i for i in range(N) if any(abs(basis[k][i])>1e-12 for k in range(4))]
lo,hi=idx[0],idx[-1]+1
print('basis region',lo,hi,N, file=sys.stderr)
B=[b[lo:hi] for b in basis]
G=[[sum(a*b for a,b in zip(B[i],B[j])) for j in range(4)] for i in range(4)]
def solve(A,y):
    n=len(A); M=[row[:]+[y[i]] for i,row in enumerate(A)]
    for c in range(n):
        p=max(range(c,n),key=lambda r:abs(M[r][c])); M[c],M[p]=M[p],M[c]
        for r in range(n):
            if r!=c:
                f=M[r][c]/M[c][c]
                for k in range(c,n+1): M[r][k]-=f*M[c][k]
    return [M[i][n]/M[i][i] for i in range(n)]
def analyse(pcm):
    if len(pcm)!=N: return None
    seg=pcm[lo:hi]
    rhs=[sum(a*b for a,b in zip(B[i],seg)) for i in range(4)]
    v=solve(G,rhs)
    # basis is for q=1 -> |q|^(4/3)
    q=[]
    for x in v:
        m=abs(x)**0.75
        r=round(m)
        if abs(m-r)>0.02: return None
        q.append(r if x>=0 else -r)
    # residual check
    res=sum((seg[i]-sum(v[k]*B[k][i] for k in range(4)))**2 for i in range(len(seg)))
    en=sum(s*s for s in seg)+1e-30
    if res>1e-6*en: return None
    return q
if __name__=='__main__':
    print(analyse(run([adts(sce(11,cb11(3,-2)+cb11(0,5)))],'t')))
